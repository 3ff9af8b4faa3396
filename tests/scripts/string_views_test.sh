#!/bin/bash
# A string view carries its size, not a terminating zero: handing only its data() to a Qt constructor
# reads on to whatever zero follows. Every such call in the sources passes the view itself (Qt takes it
# with its size) or its data() with its size().
set -u
sources=${1:?the source folder}
rule='(fromUtf8|fromLatin1|fromLocal8Bit|QLatin1String|QByteArray)\(.*\.data\(\)\)'
unsized() { grep -rnE "$rule" --include='*.cpp' --include='*.h' "$1" | grep -v 'size()'; }
found=$(unsized "$sources")
if [ -n "$found" ]; then
    echo "calls that read a string view's data() without its size:"
    echo "$found"
    exit 1
fi
# The rule itself must catch such calls, nested ones too, and pass those with a size.
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf '%s\n' 'QString a = QString::fromUtf8(Key(kind).data());' \
    'set(QString::fromUtf8(chart::RangeName(model_.range()).data()));' > "$probe/bad.cpp"
printf '%s\n' 'QString b = QString::fromUtf8(key.data(), qsizetype(key.size()));' > "$probe/good.h"
if [ "$(unsized "$probe" | wc -l)" != 2 ]; then
    echo "the rule does not find exactly the two unsized calls of its probe"
    exit 1
fi
echo "no string view is read without its size"

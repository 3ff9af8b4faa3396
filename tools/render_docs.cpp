// render_docs: turns one of the product's Markdown documents (the user's guide, the brochure) into an A4
// PDF at build time.
//
//   render_docs [--contents] INPUT.md OUTPUT.pdf [TITLE]
//
// The Markdown is read by QTextDocument (GitHub dialect: tables, strikethrough, task lists), given the
// house typography (Liberation Serif, falling back to Times New Roman; Liberation Mono for commands),
// paginated onto A4 with a footer "TITLE ... Page n of N", and written by QPdfWriter. A heading never
// stays alone at the foot of a page. With --contents a table of contents with page numbers is inserted
// before the first section heading. TITLE defaults to the text of the first heading.
//
// The output depends only on the input: hashing is seeded deterministically (Qt otherwise orders the
// PDF's font objects differently on every run) and the creation date is taken from SOURCE_DATE_EPOCH
// when it is set, else from the input file's modification time.
#include "calc/units/number_text.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHashSeed>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextStream>
#include <QTextTable>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Lengths of the text layout are in document pixels (1/96 inch); the layout scales them to the device.
// Font sizes are in points.
const QStringList kSerif = { "Liberation Serif", "Times New Roman", "serif" };
const QStringList kMono = { "Liberation Mono", "Courier New", "monospace" };
constexpr double kBodyPt = 10.5;
constexpr double kTablePt = 9.5;
constexpr double kCodePt = 9;
constexpr double kSmallestCodePt = 6.5;
// Marks the frame of a code block (a command, a listing) among the frames of the document.
constexpr int kCodeBoxProperty = QTextFormat::UserProperty + 1;
constexpr double kFooterPt = 8.5;
const QColor kHeadingColour(0x1f, 0x3a, 0x5f);
const QColor kRuleColour(0xb4, 0xbd, 0xc6);
const QColor kTableHeaderColour(0xdc, 0xe3, 0xea);
const QColor kCodeBackground(0xf1, 0xf1, 0xec);
const QColor kNoteBackground(0xfb, 0xf5, 0xdc);
const QColor kFooterColour(0x55, 0x5f, 0x6a);

// Page: A4 with margins in millimetres; the footer takes the lowest kFooterMm of the printable area.
const QMarginsF kPageMarginsMm(22, 18, 22, 12);
constexpr double kFooterMm = 10;

int Fail(const QString& message)
{
    QTextStream(stderr) << "render_docs: " << message << Qt::endl;
    return 1;
}

QString PageNumberText(int number)
{
    return QString::fromStdString(humidora::NumberText(number, 0));
}

bool InTable(const QTextBlock& block)
{
    QTextCursor cursor(block);
    return qobject_cast<QTextTable*>(cursor.currentFrame()) != nullptr;
}

/// Merges a character format into every fragment that matches a predicate. The ranges are collected
/// first, because merging formats splits and joins fragments.
template <typename Predicate>
void MergeFragments(QTextDocument& document, Predicate matches, const QTextCharFormat& format)
{
    std::vector<std::pair<int, int>> ranges;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid() && matches(block, fragment.charFormat()))
                ranges.emplace_back(fragment.position(), fragment.length());
        }
    }
    QTextCursor cursor(&document);
    for (const auto& [position, length] : ranges) {
        cursor.setPosition(position);
        cursor.setPosition(position + length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
    }
}

QTextCharFormat HeadingCharFormat(int level)
{
    static constexpr double kSizes[] = { 22, 15, 12, 10.5, 10.5, 10.5 };
    QTextCharFormat format;
    format.setFontFamilies(kSerif);
    format.setFontPointSize(kSizes[qBound(1, level, 6) - 1]);
    format.setFontWeight(QFont::Bold);
    format.setFontItalic(level >= 4);
    format.setForeground(kHeadingColour);
    return format;
}

QTextBlockFormat HeadingBlockFormat(QTextBlockFormat format, int level)
{
    static constexpr double kAbove[] = { 0, 16, 10, 8, 8, 8 };
    static constexpr double kBelow[] = { 10, 6, 4, 3, 3, 3 };
    format.setHeadingLevel(level);
    format.setTopMargin(kAbove[qBound(1, level, 6) - 1]);
    format.setBottomMargin(kBelow[qBound(1, level, 6) - 1]);
    format.setLineHeight(100, QTextBlockFormat::ProportionalHeight);
    return format;
}

/// Paragraph spacing: headings, code blocks, notes (block quotes), table cells and body paragraphs.
void StyleBlocks(QTextDocument& document)
{
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        const int level = format.headingLevel();
        if (level > 0) {
            format = HeadingBlockFormat(format, level);
        } else if (format.hasProperty(QTextFormat::BlockCodeFence)) {
            format.setTopMargin(0);
            format.setBottomMargin(0);
            format.setLineHeight(118, QTextBlockFormat::ProportionalHeight);
        } else if (InTable(block)) {
            format.setTopMargin(0);
            format.setBottomMargin(0);
            format.setLineHeight(105, QTextBlockFormat::ProportionalHeight);
        } else if (format.hasProperty(QTextFormat::BlockQuoteLevel)) {
            format.setLeftMargin(0);
            format.setRightMargin(0);
            format.setIndent(0);
            format.setTopMargin(0);
            format.setBottomMargin(3);
            format.setLineHeight(118, QTextBlockFormat::ProportionalHeight);
        } else {
            // Items of a list close together, the list as a whole spaced like a paragraph.
            const bool inner_item
                = block.textList() && block.next().isValid() && block.next().textList() == block.textList();
            format.setTopMargin(0);
            format.setBottomMargin(inner_item ? 3 : 6);
            format.setLineHeight(118, QTextBlockFormat::ProportionalHeight);
        }
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
        if (level > 0) {
            // Replaced, not merged: the importer's relative enlargement of headings would otherwise stay.
            cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
            cursor.setCharFormat(HeadingCharFormat(level));
        }
    }
}

/// Tables across the text width, ruled horizontally: a shaded header row between two darker rules (it
/// repeats on every page the table spans), a hairline under every other row.
void StyleTables(QTextFrame* frame)
{
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            QTextTableFormat format = table->format();
            format.setBorderCollapse(true);
            format.setBorder(0);
            format.setCellSpacing(0);
            format.setCellPadding(3.5);
            format.setHeaderRowCount(1);
            format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
            format.setTopMargin(2);
            format.setBottomMargin(9);
            table->setFormat(format);
            for (int row = 0; row < table->rows(); ++row) {
                for (int column = 0; column < table->columns(); ++column) {
                    QTextTableCell cell = table->cellAt(row, column);
                    QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
                    const bool header = row == 0;
                    const bool last = row == table->rows() - 1;
                    cellFormat.setBottomBorder(header || last ? 1 : 0.5);
                    cellFormat.setBottomBorderStyle(QTextFrameFormat::BorderStyle_Solid);
                    cellFormat.setBottomBorderBrush(header || last ? kHeadingColour : kRuleColour);
                    if (header) {
                        cellFormat.setTopBorder(1);
                        cellFormat.setTopBorderStyle(QTextFrameFormat::BorderStyle_Solid);
                        cellFormat.setTopBorderBrush(kHeadingColour);
                        cellFormat.setBackground(kTableHeaderColour);
                    }
                    cell.setFormat(cellFormat);
                }
            }
        }
        StyleTables(child);
    }
}

/// Makes an empty block take no vertical room.
void Collapse(const QTextBlock& block)
{
    if (!block.isValid() || !block.text().isEmpty())
        return;
    QTextBlockFormat format = block.blockFormat();
    format.setTopMargin(0);
    format.setBottomMargin(0);
    format.setLineHeight(0, QTextBlockFormat::FixedHeight);
    QTextCursor cursor(block);
    cursor.setBlockFormat(format);
    QTextCharFormat tiny;
    tiny.setFontPointSize(1);
    cursor.setBlockCharFormat(tiny);
}

/// Puts every run of consecutive blocks of the root frame that match a predicate into a frame of its own:
/// a code block or a note (block quote) becomes one shaded box instead of a stack of shaded lines.
template <typename Predicate>
void FrameRuns(QTextDocument& document, Predicate matches, const QTextFrameFormat& format)
{
    std::vector<std::pair<int, int>> runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!matches(block) || QTextCursor(block).currentFrame() != document.rootFrame())
            continue;
        QTextBlock last = block;
        while (last.next().isValid() && matches(last.next())
            && QTextCursor(last.next()).currentFrame() == document.rootFrame())
            last = last.next();
        runs.emplace_back(block.position(), last.position() + last.length() - 1);
        block = last;
    }
    // From the end, so that the frames inserted do not move the runs still to come.
    QTextCursor cursor(&document);
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        cursor.setPosition(run->first);
        cursor.setPosition(run->second, QTextCursor::KeepAnchor);
        const QTextFrame* frame = cursor.insertFrame(format);
        // A frame stands between two empty blocks of the root frame; they must take no room.
        Collapse(frame->firstCursorPosition().block().previous());
        Collapse(frame->lastCursorPosition().block().next());
        // The frame's first block comes with a fresh format: give every line the same spacing again.
        const QTextBlock end = frame->lastCursorPosition().block().next();
        for (QTextBlock block = frame->firstCursorPosition().block(); block.isValid() && block != end;
             block = block.next()) {
            QTextBlockFormat spacing = block.blockFormat();
            spacing.setLineHeight(118, QTextBlockFormat::ProportionalHeight);
            QTextCursor(block).setBlockFormat(spacing);
        }
    }
}

QTextFrameFormat BoxFormat(const QColor& background, bool code)
{
    QTextFrameFormat format;
    format.setProperty(kCodeBoxProperty, code);
    format.setBackground(background);
    format.setBorder(0.75);
    format.setBorderBrush(kRuleColour);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setPadding(5);
    format.setTopMargin(2);
    format.setBottomMargin(9);
    return format;
}

bool IsFixedPitch(const QTextBlock& block, const QTextCharFormat& format)
{
    return format.fontFixedPitch() || block.blockFormat().hasProperty(QTextFormat::BlockCodeFence)
        || format.fontFamilies().toStringList().contains("monospace");
}

void StyleDocument(QTextDocument& document)
{
    // The fixed-pitch runs (inline code, code blocks) in the mono face, everything else in the serif.
    QTextCharFormat code;
    code.setFontFamilies(kMono);
    code.setFontFixedPitch(true);
    code.setFontPointSize(kCodePt);
    MergeFragments(document, IsFixedPitch, code);

    QTextCharFormat body;
    body.setFontFamilies(kSerif);
    MergeFragments(
        document,
        [](const QTextBlock& block, const QTextCharFormat& format) { return !IsFixedPitch(block, format); },
        body);

    // Table text a little smaller than the body text, so that wide tables keep readable columns.
    QTextCharFormat table;
    table.setFontPointSize(kTablePt);
    MergeFragments(
        document,
        [](const QTextBlock& block, const QTextCharFormat& format) {
            return InTable(block) && !IsFixedPitch(block, format);
        },
        table);

    StyleTables(document.rootFrame());
    StyleBlocks(document);
    FrameRuns(
        document,
        [](const QTextBlock& block) { return block.blockFormat().hasProperty(QTextFormat::BlockCodeFence); },
        BoxFormat(kCodeBackground, true));
    FrameRuns(
        document,
        [](const QTextBlock& block) { return block.blockFormat().hasProperty(QTextFormat::BlockQuoteLevel); },
        BoxFormat(kNoteBackground, false));
}

/// Loads every picture the document shows from `folder` and sets it at the right margin, 42 % of the
/// text width (text_width, in document pixels) wide, with the text flowing beside it. Returns the name of
/// the first picture that cannot be loaded, or an empty text.
QString PlacePictures(QTextDocument& document, const QDir& folder, double text_width)
{
    constexpr double kShare = 0.42;
    constexpr double kGap = 12;
    struct Picture
    {
        int position;
        QTextImageFormat format;
    };
    std::vector<Picture> pictures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid() && fragment.charFormat().isImageFormat())
                pictures.push_back({ fragment.position(), fragment.charFormat().toImageFormat() });
        }
    }
    // From the end, so that the frames inserted do not move the pictures still to come.
    for (auto picture = pictures.rbegin(); picture != pictures.rend(); ++picture) {
        const QString name = picture->format.name();
        const QImage image(folder.filePath(name));
        if (image.isNull())
            return name;
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);

        QTextFrameFormat side;
        side.setPosition(QTextFrameFormat::FloatRight);
        side.setWidth(QTextLength(QTextLength::PercentageLength, 100 * kShare));
        side.setLeftMargin(kGap);
        side.setBottomMargin(6);
        QTextCursor cursor(&document);
        cursor.setPosition(picture->position);
        cursor.setPosition(picture->position + 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        QTextFrame* frame = cursor.insertFrame(side);
        QTextImageFormat format = picture->format;
        const double width = kShare * text_width - kGap;
        format.setWidth(width);
        format.setHeight(width * image.height() / image.width());
        frame->firstCursorPosition().insertImage(format);
        Collapse(frame->firstCursorPosition().block().previous());
    }
    return {};
}

/// Vertical extent of a block's first and last line in document coordinates. Lines of a block are
/// placed relative to its layout, the layout relative to its frame; blockBoundingRect() knows the frame.
struct LineSpan
{
    double first_top, first_bottom, last_bottom;
};

LineSpan LinesOf(const QTextDocument& document, const QTextBlock& block)
{
    const QRectF rect = document.documentLayout()->blockBoundingRect(block);
    const QTextLayout* layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return { rect.top(), rect.bottom(), rect.bottom() };
    const double origin = rect.top() - layout->boundingRect().top();
    const QTextLine first = layout->lineAt(0);
    const QTextLine last = layout->lineAt(layout->lineCount() - 1);
    return { origin + first.y(), origin + first.y() + first.height(), origin + last.y() + last.height() };
}

/// The table of contents: one row per section heading, the page number filled in by Paginate().
struct Contents
{
    QTextTable* table = nullptr;
    std::vector<QTextBlock> headings;
};

Contents InsertContents(QTextDocument& document)
{
    Contents contents;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 2)
            contents.headings.push_back(block);
    }
    if (contents.headings.empty())
        return contents;

    // After the block that precedes the first section: a heading "Contents", then the table.
    const QTextBlock before = contents.headings.front().previous();
    QTextCursor cursor(&document);
    cursor.setPosition(before.isValid() ? before.position() + before.length() - 1 : 0);
    cursor.insertBlock(HeadingBlockFormat(QTextBlockFormat(), 2), HeadingCharFormat(2));
    cursor.insertText("Contents");

    QTextTableFormat format;
    format.setBorder(0);
    format.setCellSpacing(0);
    format.setCellPadding(1.5);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    format.setColumnWidthConstraints(
        { QTextLength(QTextLength::PercentageLength, 90), QTextLength(QTextLength::PercentageLength, 10) });
    format.setBottomMargin(10);
    const int rows = static_cast<int>(contents.headings.size());
    contents.table = cursor.insertTable(rows, 2, format);

    QTextCharFormat text;
    text.setFontFamilies(kSerif);
    text.setFontPointSize(kBodyPt);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    for (int row = 0; row < rows; ++row) {
        QTextCursor title = contents.table->cellAt(row, 0).firstCursorPosition();
        title.insertText(contents.headings[static_cast<std::size_t>(row)].text(), text);
        QTextCursor page = contents.table->cellAt(row, 1).firstCursorPosition();
        page.setBlockFormat(right);
        page.insertText("0", text);
    }
    return contents;
}

int PageOf(double y, double page_height)
{
    return static_cast<int>(std::floor(y / page_height));
}

/// Lays the whole document out afresh. The incremental relayout that follows a change of a block format
/// leaves later blocks with stale positions (they are then neither measured right nor drawn), so every
/// change is followed by a complete layout.
void Relayout(QTextDocument& document)
{
    document.markContentsDirty(0, document.characterCount());
}

/// Widest line of the blocks of a frame, as the ratio of the width available to the width its text needs
/// unbroken (1 when every line fits). A wrapped line needs the widths of its pieces together.
double FitRatio(QTextDocument& document, const QTextFrame* frame)
{
    double ratio = 1;
    const QTextBlock end = frame->lastCursorPosition().block().next();
    for (QTextBlock block = frame->firstCursorPosition().block(); block.isValid() && block != end;
         block = block.next()) {
        document.documentLayout()->blockBoundingRect(block); // lays the block out
        const QTextLayout* layout = block.layout();
        if (!layout || layout->lineCount() == 0)
            continue;
        double needed = 0;
        for (int i = 0; i < layout->lineCount(); ++i)
            needed += layout->lineAt(i).naturalTextWidth();
        const double available = layout->lineAt(0).width();
        if (layout->lineCount() > 1 && needed > 0)
            ratio = std::min(ratio, available / needed);
    }
    return ratio;
}

/// Commands and listings must keep their lines whole: a command broken in two cannot be copied. A box
/// whose longest line does not fit gets a smaller type, down to kSmallestCodePt. Needs the page size set.
void FitBoxes(QTextDocument& document)
{
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        if (!frame->frameFormat().boolProperty(kCodeBoxProperty))
            continue;
        double size = kCodePt;
        for (double ratio = FitRatio(document, frame); ratio < 1 && size > kSmallestCodePt;
             ratio = FitRatio(document, frame)) {
            size = std::max(kSmallestCodePt, std::min(size - 0.25, std::floor(size * ratio * 4) / 4));
            QTextCharFormat smaller;
            smaller.setFontPointSize(size);
            QTextCursor cursor(&document);
            cursor.setPosition(frame->firstPosition());
            cursor.setPosition(frame->lastPosition(), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(smaller);
            Relayout(document);
        }
    }
}

/// Finds the first place, in reading order, where a page break falls badly: after a heading (which then
/// stays alone at the foot of the page) or inside a boxed frame (a command, a note) that would fit on one
/// page; and moves that heading or frame to the next page. Fixing the first place first matters: a move
/// shifts only what follows, so the places settled before it stay settled. Returns whether it moved
/// something.
bool MoveOneBreak(QTextDocument& document, double page_height)
{
    QTextBlock heading;
    for (QTextBlock block = document.begin(); block.isValid() && !heading.isValid(); block = block.next()) {
        const QTextBlock next = block.next();
        if (block.blockFormat().headingLevel() == 0 || !next.isValid()
            || block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            continue;
        if (PageOf(LinesOf(document, block).last_bottom, page_height)
            != PageOf(LinesOf(document, next).first_bottom, page_height))
            heading = block;
    }
    QTextFrame* box = nullptr;
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        if (qobject_cast<QTextTable*>(frame)
            || frame->frameFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            continue;
        const double top = LinesOf(document, frame->firstCursorPosition().block()).first_top;
        const double bottom = LinesOf(document, frame->lastCursorPosition().block()).last_bottom;
        if (bottom - top < page_height / 2 && PageOf(top, page_height) != PageOf(bottom, page_height)) {
            box = frame;
            break;
        }
    }
    if (box && (!heading.isValid() || box->firstPosition() < heading.position())) {
        QTextFrameFormat format = box->frameFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        box->setFrameFormat(format);
        return true;
    }
    if (heading.isValid()) {
        QTextBlockFormat format = heading.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(heading).setBlockFormat(format);
        return true;
    }
    return false;
}

/// Settles the page breaks one at a time, because every move shifts what follows, then gives the
/// contents their page numbers. Each heading and frame moves at most once, so this ends.
void Paginate(QTextDocument& document, double page_height, const Contents& contents)
{
    Relayout(document);
    while (MoveOneBreak(document, page_height))
        Relayout(document);
    if (!contents.table)
        return;
    for (std::size_t row = 0; row < contents.headings.size(); ++row) {
        const LineSpan heading = LinesOf(document, contents.headings[row]);
        const QString number = PageNumberText(PageOf(heading.first_bottom, page_height) + 1);
        QTextCursor cell = contents.table->cellAt(static_cast<int>(row), 1).firstCursorPosition();
        cell.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cell.insertText(number);
    }
    Relayout(document);
}

void PaintFooter(QPainter& painter, const QRectF& area, const QString& title, int page, int pages)
{
    painter.save();
    QFont font(kSerif.front());
    font.setFamilies(kSerif);
    font.setPointSizeF(kFooterPt);
    painter.setFont(font);
    QPen rule(kRuleColour);
    rule.setWidthF(area.height() / 80);
    painter.setPen(rule);
    const double rule_y = area.top() + area.height() * 0.35;
    painter.drawLine(QPointF(area.left(), rule_y), QPointF(area.right(), rule_y));
    painter.setPen(kFooterColour);
    const QRectF text(area.left(), rule_y, area.width(), area.bottom() - rule_y);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, title);
    painter.drawText(text, Qt::AlignRight | Qt::AlignVCenter,
        QString("Page %1 of %2").arg(PageNumberText(page), PageNumberText(pages)));
    painter.restore();
}

/// Replaces the creation date that QPdfWriter stamps with the given one. The date field has a fixed
/// length, so the cross-reference offsets stay valid.
void StampCreationDate(QByteArray& pdf, const QDateTime& date)
{
    const QByteArray key = "/CreationDate (D:";
    const qsizetype at = pdf.indexOf(key);
    if (at < 0)
        return;
    const QByteArray stamp = date.toUTC().toString("yyyyMMddhhmmss").toLatin1() + "Z)";
    const qsizetype start = at + key.size();
    const qsizetype end = pdf.indexOf(')', start);
    if (end < 0 || end + 1 - start != stamp.size())
        return;
    pdf.replace(start, stamp.size(), stamp);
}

QDateTime SourceDate(const QFileInfo& input)
{
    bool ok = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    if (ok)
        return QDateTime::fromSecsSinceEpoch(epoch, Qt::UTC);
    return input.lastModified().toUTC();
}

} // namespace

int main(int argc, char* argv[])
{
    QHashSeed::setDeterministicGlobalSeed();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QGuiApplication::setApplicationName("render_docs");

    QCommandLineParser parser;
    parser.setApplicationDescription("Renders a Markdown document to an A4 PDF.");
    parser.addHelpOption();
    const QCommandLineOption contents_option(
        "contents", "Insert a table of contents before the first section.");
    parser.addOption(contents_option);
    const QCommandLineOption images_option("images", "Folder of the pictures the document shows.", "DIR");
    parser.addOption(images_option);
    parser.addPositionalArgument("INPUT.md", "Markdown document to render.");
    parser.addPositionalArgument("OUTPUT.pdf", "PDF file to write.");
    parser.addPositionalArgument("TITLE", "Title for the footer and the PDF properties.", "[TITLE]");
    parser.process(application);
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() < 2 || arguments.size() > 3) {
        QTextStream(stderr) << parser.helpText();
        return 2;
    }
    const QString input_path = arguments[0];
    const QString output_path = arguments[1];

    QFile input(input_path);
    if (!input.open(QIODevice::ReadOnly | QIODevice::Text))
        return Fail(QString("cannot read %1: %2").arg(input_path, input.errorString()));
    const QString markdown = QString::fromUtf8(input.readAll());
    input.close();

    QTextDocument document;
    document.setDocumentMargin(0);
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    if (document.isEmpty())
        return Fail(QString("%1 holds no text").arg(input_path));
    StyleDocument(document);

    QString title = arguments.size() > 2 ? arguments[2] : QString();
    for (QTextBlock block = document.begin(); title.isEmpty() && block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0)
            title = block.text();
    }

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(kPageMarginsMm, QPageLayout::Millimeter);
    writer.setTitle(title);
    writer.setCreator("Humidora documentation");

    document.documentLayout()->setPaintDevice(&writer);
    const double footer_height = kFooterMm / 25.4 * writer.resolution();
    const QSizeF body(writer.width(), writer.height() - footer_height);
    document.setPageSize(body);

    // Layout lengths are in document pixels of 1/96 inch.
    const double text_width = body.width() * 96 / writer.resolution();
    const QString images
        = parser.isSet(images_option) ? parser.value(images_option) : QFileInfo(input_path).absolutePath();
    if (const QString missing = PlacePictures(document, QDir(images), text_width); !missing.isEmpty())
        return Fail(QString("%1 shows %2, which is not a picture in %3").arg(input_path, missing, images));

    FitBoxes(document);
    const Contents table_of_contents = parser.isSet(contents_option) ? InsertContents(document) : Contents {};
    Paginate(document, body.height(), table_of_contents);

    const int pages = document.pageCount();
    {
        QPainter painter(&writer);
        painter.setRenderHint(QPainter::Antialiasing);
        for (int page = 0; page < pages; ++page) {
            if (page > 0)
                writer.newPage();
            const QRectF view(0, page * body.height(), body.width(), body.height());
            painter.save();
            painter.setClipRect(QRectF(QPointF(0, 0), body));
            painter.translate(0, -view.top());
            QAbstractTextDocumentLayout::PaintContext context;
            // A line that starts exactly at the foot of the page belongs to the next one; the layout
            // would draw it here too (clipped away, but present in the PDF's text). Half a device unit
            // (1/2400 inch) keeps it out.
            context.clip = view.adjusted(0, 0.5, 0, -0.5);
            context.palette.setColor(QPalette::Text, Qt::black);
            document.documentLayout()->draw(&painter, context);
            painter.restore();
            PaintFooter(
                painter, QRectF(0, body.height(), body.width(), footer_height), title, page + 1, pages);
        }
    }
    buffer.close();

    QByteArray pdf = buffer.data();
    StampCreationDate(pdf, SourceDate(QFileInfo(input_path)));
    QSaveFile output(output_path);
    if (!output.open(QIODevice::WriteOnly) || output.write(pdf) != pdf.size() || !output.commit())
        return Fail(QString("cannot write %1: %2").arg(output_path, output.errorString()));
    return 0;
}

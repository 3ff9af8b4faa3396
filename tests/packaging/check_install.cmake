# Installs the build into a scratch DESTDIR and checks what lands where:
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -DAPPSTREAM_ID=... -P check_install.cmake
# - exactly the expected files under /usr: the programs in bin, the help documents in the data folder
#   (never beside the programs), the desktop entry, the icons, the AppStream metadata, the MIME type, the
#   manual pages and the bash completion;
# - the installed command-line program runs from the scratch folder (a relocated installation);
# - the desktop entry, the metadata and the MIME type name each other consistently.

file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${WORK_DIR}
    ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr
    RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE error)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${status}): ${error}")
endif()

set(expected
    usr/bin/humidora
    usr/bin/humidora-cli
    usr/share/applications/humidora.desktop
    usr/share/bash-completion/completions/humidora-cli
    usr/share/humidora/Humidora_Brochure.pdf
    "usr/share/humidora/Humidora_Users Guide.pdf"
    usr/share/man/man1/humidora-cli.1.gz
    usr/share/man/man1/humidora.1.gz
    usr/share/metainfo/${APPSTREAM_ID}.metainfo.xml
    usr/share/mime/packages/humidora.xml
    usr/share/icons/hicolor/scalable/apps/humidora.svg)
foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND expected usr/share/icons/hicolor/${size}x${size}/apps/humidora.png)
endforeach()
# The Python package, where it is built: in Debian's folder of the system interpreter's packages.
if(PYTHON_MODULE)
    foreach(file ${PYTHON_MODULE} __init__.py __init__.pyi dask.py py.typed)
        list(APPEND expected usr/lib/python3/dist-packages/humidora/${file})
    endforeach()
endif()
list(SORT expected)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${WORK_DIR}" "${WORK_DIR}/*")
list(SORT installed)
if(NOT installed STREQUAL expected)
    set(missing ${expected})
    list(REMOVE_ITEM missing ${installed})
    set(surplus ${installed})
    list(REMOVE_ITEM surplus ${expected})
    message(FATAL_ERROR "installed files differ\n  missing: ${missing}\n  not expected: ${surplus}")
endif()

set(root "${WORK_DIR}/usr")
execute_process(COMMAND "${root}/bin/humidora-cli" --version RESULT_VARIABLE status OUTPUT_VARIABLE version)
if(NOT status EQUAL 0 OR NOT version MATCHES "^humidora-cli [0-9]+\\.[0-9]+")
    message(FATAL_ERROR "the installed humidora-cli does not run (${status}): ${version}")
endif()
if(PYTHON_MODULE)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env PYTHONPATH=${root}/lib/python3/dist-packages /usr/bin/python3 -c
        "import humidora; print(humidora.__file__, humidora.state(25, relative_humidity=50)['status'])"
        RESULT_VARIABLE status OUTPUT_VARIABLE imported ERROR_VARIABLE error)
    if(NOT status EQUAL 0 OR NOT imported MATCHES "^${root}/lib/python3/dist-packages/humidora/__init__.py ok")
        message(FATAL_ERROR "the installed Python package does not import (${status}): ${imported} ${error}")
    endif()
endif()
foreach(page humidora humidora-cli)
    file(SIZE "${root}/share/man/man1/${page}.1.gz" bytes)
    if(bytes LESS 200)
        message(FATAL_ERROR "the manual page of ${page} is nearly empty (${bytes} bytes)")
    endif()
endforeach()

# The names that tie the pieces together.
file(READ "${root}/share/applications/humidora.desktop" desktop)
file(READ "${root}/share/metainfo/${APPSTREAM_ID}.metainfo.xml" metainfo)
file(READ "${root}/share/mime/packages/humidora.xml" mime)
string(REGEX MATCH "<mime-type type=\"([^\"]+)\"" ignored "${mime}")
set(mime_type "${CMAKE_MATCH_1}")
foreach(check
        "desktop;Exec=humidora %f" "desktop;Icon=humidora\n" "desktop;MimeType=${mime_type};"
        "metainfo;<launchable type=\"desktop-id\">humidora.desktop</launchable>"
        "metainfo;<mediatype>${mime_type}</mediatype>" "metainfo;<id>${APPSTREAM_ID}</id>"
        "mime;<glob pattern=\"*.humidora\"/>")
    list(GET check 0 file)
    list(GET check 1 text)
    string(FIND "${${file}}" "${text}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the ${file} file does not hold '${text}'")
    endif()
endforeach()
message(STATUS "installed ${root}: ${installed}")

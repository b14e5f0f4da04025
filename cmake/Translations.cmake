# German and French texts: lrelease compiles the .ts files of resources/translations into .qm
# catalogues, which are built into the program under :/i18n. `cmake --build build --target
# update-translations` runs lupdate over the sources to add new texts to the .ts files.
set(OSTREL_LANGUAGES de fr)
set(qt_tool_folders ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBEXECS} ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}
                    /usr/lib/qt6/bin)
find_program(OSTREL_LRELEASE lrelease HINTS ${qt_tool_folders} REQUIRED)
find_program(OSTREL_LUPDATE lupdate HINTS ${qt_tool_folders})

set(OSTREL_TS_FILES)
set(qm_files)
foreach(language ${OSTREL_LANGUAGES})
    set(ts ${CMAKE_SOURCE_DIR}/resources/translations/ostrel_${language}.ts)
    set(qm ${CMAKE_BINARY_DIR}/translations/ostrel_${language}.qm)
    add_custom_command(OUTPUT ${qm}
                       COMMAND ${OSTREL_LRELEASE} -silent -nounfinished ${ts} -qm ${qm}
                       DEPENDS ${ts} VERBATIM)
    list(APPEND OSTREL_TS_FILES ${ts})
    list(APPEND qm_files ${qm})
endforeach()
qt_add_resources(ostrel_app translations PREFIX /i18n BASE ${CMAKE_BINARY_DIR}/translations FILES ${qm_files})

# The folders whose code shows text; the translation test runs the same command.
set(OSTREL_TRANSLATED_FOLDERS app audio directory media panels radio ui util)
if(OSTREL_LUPDATE)
    add_custom_target(update-translations
                      COMMAND ${OSTREL_LUPDATE} -I . -locations none -no-obsolete ${OSTREL_TRANSLATED_FOLDERS} -ts ${OSTREL_TS_FILES}
                      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)
endif()

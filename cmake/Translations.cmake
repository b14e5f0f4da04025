# SPDX-License-Identifier: GPL-3.0-or-later
# German and French texts: Qt's lrelease compiles the .ts files of resources/translations into
# .qm catalogues, which are built into the program under :/i18n. `cmake --build build --target
# update-translations` runs lupdate over the sources to add new texts to the .ts files.
set(OSTREL_LANGUAGES de fr)
set(OSTREL_TS_FILES)
foreach(language ${OSTREL_LANGUAGES})
    list(APPEND OSTREL_TS_FILES ${CMAKE_SOURCE_DIR}/resources/translations/ostrel_${language}.ts)
endforeach()
set_source_files_properties(${OSTREL_TS_FILES} PROPERTIES OUTPUT_LOCATION ${CMAKE_BINARY_DIR}/translations)
qt_add_lrelease(ostrel_app TS_FILES ${OSTREL_TS_FILES} OPTIONS -silent -nounfinished QM_FILES_OUTPUT_VARIABLE qm_files)
qt_add_resources(ostrel_app translations PREFIX /i18n BASE ${CMAKE_BINARY_DIR}/translations FILES ${qm_files})

# The folders whose code shows text; the translation test runs the same command.
set(OSTREL_TRANSLATED_FOLDERS app audio directory media panels radio ui util)
set(OSTREL_LUPDATE $<TARGET_FILE:Qt6::lupdate>)
add_custom_target(update-translations
                  COMMAND ${OSTREL_LUPDATE} -I . -locations none -no-obsolete ${OSTREL_TRANSLATED_FOLDERS} -ts ${OSTREL_TS_FILES}
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)

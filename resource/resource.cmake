# Builds everything the program loads at run time:
#  - the compiled-in resources (pictures drawn by tools/imagegen, the Roboto font),
#  - the files of the data root next to the executable (translation, png/, sql/, settings/, dfu/).

set(TD_RES_DIR ${CMAKE_SOURCE_DIR}/resource)
set(TD_GEN_DIR ${CMAKE_BINARY_DIR}/resource/generated)
file(MAKE_DIRECTORY ${TD_GEN_DIR}/images ${TD_GEN_DIR}/fonts)

# --- font: taken from Debian's fonts-roboto-unhinted at build time
set(TD_ROBOTO_CANDIDATES
  /usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Light.ttf
  /usr/share/fonts/truetype/roboto/unhinted/Roboto-Light.ttf)
set(TD_ROBOTO "")
foreach(f ${TD_ROBOTO_CANDIDATES})
  if(EXISTS ${f} AND NOT TD_ROBOTO)
    set(TD_ROBOTO ${f})
  endif()
endforeach()
if(NOT TD_ROBOTO)
  message(FATAL_ERROR "Roboto-Light.ttf not found: run scripts/bootstrap (fonts-roboto-unhinted)")
endif()
configure_file(${TD_ROBOTO} ${TD_GEN_DIR}/fonts/Roboto-Light.ttf COPYONLY)

# --- pictures: drawn by our own generator so every icon is a real, legible picture
include(${TD_RES_DIR}/images.cmake OPTIONAL RESULT_VARIABLE TD_HAVE_IMAGES)

set(TD_QRC ${TD_GEN_DIR}/torquedesk.qrc)
set(TD_QRC_BODY "<RCC>\n  <qresource prefix=\"/resource\">\n    <file>fonts/Roboto-Light.ttf</file>\n")
foreach(img ${TD_IMAGE_NAMES})
  string(APPEND TD_QRC_BODY "    <file>images/${img}</file>\n")
endforeach()
string(APPEND TD_QRC_BODY "  </qresource>\n</RCC>\n")
# Written at configure time (only when it changes) so rcc can be a plain custom command that
# depends on the generated pictures.
if(EXISTS ${TD_QRC})
  file(READ ${TD_QRC} TD_QRC_OLD)
endif()
if(NOT "${TD_QRC_OLD}" STREQUAL "${TD_QRC_BODY}")
  file(WRITE ${TD_QRC} "${TD_QRC_BODY}")
endif()
set(TD_RESOURCE_CPP ${TD_GEN_DIR}/qrc_torquedesk.cpp)
set(TD_RESOURCE_FILES ${TD_GEN_DIR}/fonts/Roboto-Light.ttf)
foreach(img ${TD_IMAGE_NAMES})
  list(APPEND TD_RESOURCE_FILES ${TD_GEN_DIR}/images/${img})
endforeach()
add_custom_command(OUTPUT ${TD_RESOURCE_CPP}
  COMMAND Qt5::rcc -name torquedesk -o ${TD_RESOURCE_CPP} ${TD_QRC}
  DEPENDS ${TD_QRC} ${TD_RESOURCE_FILES}
  WORKING_DIRECTORY ${TD_GEN_DIR}
  COMMENT "Compiling resources")
set_source_files_properties(${TD_RESOURCE_CPP} PROPERTIES GENERATED TRUE SKIP_AUTOMOC ON SKIP_AUTOUIC ON)

# --- translation
set(TD_TS ${TD_RES_DIR}/translations/language_ru.ts)
set_source_files_properties(${TD_TS} PROPERTIES OUTPUT_LOCATION ${CMAKE_BINARY_DIR})
qt5_add_translation(TD_QM ${TD_TS})

# --- report database made from the committed schema
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/sql/report.db3
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/sql
  COMMAND ${CMAKE_COMMAND} -E remove -f ${CMAKE_BINARY_DIR}/sql/report.db3
  COMMAND sqlite3 ${CMAKE_BINARY_DIR}/sql/report.db3 < ${TD_RES_DIR}/sql/report.sql
  DEPENDS ${TD_RES_DIR}/sql/report.sql
  COMMENT "Creating sql/report.db3")

# --- popup pictures, report templates and the DFU tool folder, copied as they are
file(GLOB_RECURSE TD_DATA_FILES CONFIGURE_DEPENDS RELATIVE ${TD_RES_DIR}
  ${TD_RES_DIR}/settings/* ${TD_RES_DIR}/dfu/*)
set(TD_DATA_OUT)
foreach(f ${TD_DATA_FILES})
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${f}
    COMMAND ${CMAKE_COMMAND} -E copy ${TD_RES_DIR}/${f} ${CMAKE_BINARY_DIR}/${f}
    DEPENDS ${TD_RES_DIR}/${f})
  list(APPEND TD_DATA_OUT ${CMAKE_BINARY_DIR}/${f})
endforeach()

# --- the QR list's Russian template: the English one with its texts replaced, so the layout
# is kept in one file
set(TD_QR_RU ${CMAKE_BINARY_DIR}/settings/qrcodec_ru.lrxml)
add_custom_command(OUTPUT ${TD_QR_RU}
  COMMAND ${CMAKE_COMMAND} -DIN=${TD_RES_DIR}/settings/qrcodec.lrxml -DTEXTS=${TD_RES_DIR}/report-templates/qrcodec.ru.tsv
          -DOUT=${TD_QR_RU} -P ${TD_RES_DIR}/report-templates/translate-template.cmake
  DEPENDS ${TD_RES_DIR}/settings/qrcodec.lrxml ${TD_RES_DIR}/report-templates/qrcodec.ru.tsv
          ${TD_RES_DIR}/report-templates/translate-template.cmake
  COMMENT "Generating settings/qrcodec_ru.lrxml")

add_custom_target(td_data_root ALL
  DEPENDS ${TD_QM} ${CMAKE_BINARY_DIR}/sql/report.db3 ${TD_DATA_OUT} ${TD_IMAGE_OUTPUTS} ${TD_QR_RU}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/settings ${CMAKE_BINARY_DIR}/dfu ${CMAKE_BINARY_DIR}/png)

# --- the same schema compiled in: a missing or empty report.db3 is given its tables at run time
file(READ ${TD_RES_DIR}/sql/report.sql TD_REPORT_SCHEMA)
file(WRITE ${TD_GEN_DIR}/ReportSchema.h.tmp
  "#pragma once\n// Generated from resource/sql/report.sql.\nnamespace td {\nconstexpr const char *reportSchema = R\"sql(${TD_REPORT_SCHEMA})sql\";\n}\n")
configure_file(${TD_GEN_DIR}/ReportSchema.h.tmp ${TD_GEN_DIR}/ReportSchema.h COPYONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TD_RES_DIR}/sql/report.sql)

# Pictures drawn at build time by our own generator (tools/imagegen).
# In:  TD_RES_DIR, TD_GEN_DIR (set by resource.cmake).
# Out: TD_IMAGE_NAMES   file names under images/, compiled into the resources as
#                       :resource/images/<name>
#      TD_IMAGE_OUTPUTS every generated file, including the popup pictures in <build>/png/.
#
# The generator is defined here rather than in tools/imagegen/CMakeLists.txt because the
# resources are set up before the tools folders are added.

set(TD_IMAGE_NAMES
  # left menu
  records.png templates.png database.png calibrate.png menulevels.png about.png
  # connection status
  usb.png wifi.png null.png logo_usb.png logo_wifi.png key_sm.png
  bat_lvl0.png bat_lvl1.png bat_lvl2.png bat_lvl3.png bat_lvl4.png bat_lvl5.png
  wifi_lvl0.png wifi_lvl1.png wifi_lvl2.png wifi_lvl3.png
  # key state, warnings, message panel, level tabs
  rotate1a.png rotate2a.png rotateFFa.png vnim.png bad_moment.png
  lock.png unlock.png message1.png is_used.png not_used.png
  # firmware page
  fw_download.png fw_ok.png fw_bad.png fw_nofound.png fw_noconnect.png key_found.png
  # logo and screens
  logo_trevonics_red3.png init_find.png
  # the program's icon in the desktop's icon theme
  torquedesk.png
  # busy animations
  wait.gif wait2.gif rocket.gif)
set(TD_POPUP_IMAGE_NAMES warning_128.png help_128.png)

set(TD_IMAGEGEN_DIR ${CMAKE_SOURCE_DIR}/tools/imagegen)
file(GLOB TD_IMAGEGEN_SOURCES CONFIGURE_DEPENDS ${TD_IMAGEGEN_DIR}/*.cpp ${TD_IMAGEGEN_DIR}/*.h)
add_executable(imagegen ${TD_IMAGEGEN_SOURCES})
target_link_libraries(imagegen PRIVATE Qt5::Gui)
set_target_properties(imagegen PROPERTIES
  AUTOMOC OFF AUTOUIC OFF AUTORCC OFF
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
# It runs during the build, so keep sanitizer instrumentation (inherited from the top-level
# directory options) out of it: a sanitized host tool only slows every build down.
foreach(prop COMPILE_OPTIONS LINK_OPTIONS)
  get_target_property(opts imagegen ${prop})
  if(opts)
    list(FILTER opts EXCLUDE REGEX "sanitize|omit-frame-pointer")
    set_property(TARGET imagegen PROPERTY ${prop} ${opts})
  endif()
endforeach()

# The same Roboto the program ships, in the weights the logo and glyphs need.
get_filename_component(TD_ROBOTO_DIR ${TD_ROBOTO} DIRECTORY)
set(TD_IMAGEGEN_FONTS)
foreach(weight Bold Medium Regular)
  if(EXISTS ${TD_ROBOTO_DIR}/Roboto-${weight}.ttf)
    list(APPEND TD_IMAGEGEN_FONTS --font ${TD_ROBOTO_DIR}/Roboto-${weight}.ttf)
  endif()
endforeach()

set(TD_IMAGE_OUTPUTS)
set(TD_IMAGEGEN_EXPECT)
foreach(img ${TD_IMAGE_NAMES})
  list(APPEND TD_IMAGE_OUTPUTS ${TD_GEN_DIR}/images/${img})
  list(APPEND TD_IMAGEGEN_EXPECT --expect ${img})
endforeach()
foreach(img ${TD_POPUP_IMAGE_NAMES})
  list(APPEND TD_IMAGE_OUTPUTS ${CMAKE_BINARY_DIR}/png/${img})
  list(APPEND TD_IMAGEGEN_EXPECT --expect-popup ${img})
endforeach()

add_custom_command(OUTPUT ${TD_IMAGE_OUTPUTS}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:imagegen> --images ${TD_GEN_DIR}/images --popups ${CMAKE_BINARY_DIR}/png
          ${TD_IMAGEGEN_FONTS} ${TD_IMAGEGEN_EXPECT}
  DEPENDS imagegen
  COMMENT "Drawing the program's pictures"
  VERBATIM)

# td_add_test(NAME <name> SOURCES <files...> [UI] [LABELS <labels...>] [TIMEOUT <s>] [LIBS <libs...>])
# One Qt Test executable registered with CTest, run offscreen. A test links the core alone
# unless it drives widgets (UI, or the gui label): a widget that creeps into the core then
# fails the core's own tests at their link, not only in a review.
find_package(Qt5 5.15 REQUIRED COMPONENTS Test)
function(td_add_test)
  cmake_parse_arguments(T "UI" "NAME;TIMEOUT" "SOURCES;LABELS;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_UI OR "gui" IN_LIST T_LABELS)
    target_link_libraries(${T_NAME} PRIVATE torquedesk_ui Qt5::Test ${T_LIBS})
  else()
    target_link_libraries(${T_NAME} PRIVATE torquedesk_core Qt5::Test ${T_LIBS})
  endif()
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(${T_NAME} PROPERTIES
    LABELS "${T_LABELS}"
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TD_BUILD_DIR=${CMAKE_BINARY_DIR};TD_SOURCE_DIR=${CMAKE_SOURCE_DIR};ASAN_OPTIONS=detect_leaks=0")
endfunction()

# tw_module(<name> DEPS <targets>...): the library tw_<name> from every .cpp in the current
# folder (a module is one folder). Skipped while the folder holds no sources yet.
function(tw_module name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_library(tw_${name} STATIC ${sources})
  target_link_libraries(tw_${name} PUBLIC tw_common ${ARG_DEPS})
endfunction()

# tw_module_tests(<name> DEPS <targets>...): one GoogleTest program test_<name> from every
# *_test.cpp in the current folder, registered with CTest.
function(tw_module_tests name)
  cmake_parse_arguments(ARG "" "" "DEPS;ENV" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(NOT sources)
    return()
  endif()
  foreach(dep IN LISTS ARG_DEPS)
    if(NOT TARGET ${dep})
      message(FATAL_ERROR "test_${name} needs ${dep}, which is not built")
    endif()
  endforeach()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE tw_common ${ARG_DEPS} GTest::gmock_main)
  gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "${ARG_ENV}")
endfunction()

# tw_glib_leaks_pass(<target>): under the sanitizer build, the target lets the block that GLib
# keeps from its start-up pass LeakSanitizer (cmake/glib_leak_suppression.cpp). For programs that
# link the conversion module, directly or through the modules above it.
function(tw_glib_leaks_pass target)
  if(TW_SANITIZE)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/glib_leak_suppression.cpp)
  endif()
endfunction()

# Helpers that let each subsystem, test folder and benchmark describe itself in
# its own folder, so that parallel work never edits a shared list of files.

# lark_library(<name> DIRS <dir>... [PUBLIC_LIBS <lib>...] [PRIVATE_LIBS <lib>...])
# A static library of every .cpp in the given folders (an interface library
# while a folder is still empty).
function(lark_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_PUBLIC_LIBS})
  endif()
endfunction()

# lark_test(<name> LIBS <lib>...)
# One GoogleTest binary of every .cpp in the calling folder, plus the shared
# support code. Files named fuzz_*.cpp are not part of it: they become libFuzzer
# targets of the sanitizer build, linked against the same libraries.
function(lark_test name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/fuzz_[^/]*\\.cpp$")
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE lark_test_support ${ARG_LIBS} GTest::gtest GTest::gmock)
  # Discovery at test time, so a build never needs a display or a peer server.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  if(LARK_FUZZ)
    file(GLOB fuzzers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_*.cpp)
    foreach(src IN LISTS fuzzers)
      get_filename_component(fuzz_name ${src} NAME_WE)
      add_executable(${fuzz_name} ${src})
      target_link_libraries(${fuzz_name} PRIVATE ${ARG_LIBS})
      target_link_options(${fuzz_name} PRIVATE -fsanitize=fuzzer)
      set_target_properties(${fuzz_name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    endforeach()
  endif()
endfunction()

# Adds every subfolder of the calling folder that has a CMakeLists.txt.
function(lark_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

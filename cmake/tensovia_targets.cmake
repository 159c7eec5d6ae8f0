# How every target of the project is made: warnings and sanitizers set per target, the project's
# headers included by their path from the source root.

option(TENSOVIA_WERROR "Treat compiler warnings as errors" OFF)
set(TENSOVIA_SANITIZE "" CACHE STRING
  "Sanitizers for every target: address;undefined, thread, or with fuzzer-no-link for the fuzzer")

# Warnings, and the sanitizers of TENSOVIA_SANITIZE, for one target.
function(tensovia_target_options target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(TENSOVIA_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
  if(TENSOVIA_SANITIZE)
    list(JOIN TENSOVIA_SANITIZE "," sanitizers)
    target_compile_options(${target} PRIVATE -fsanitize=${sanitizers} -fno-omit-frame-pointer)
    if("undefined" IN_LIST TENSOVIA_SANITIZE)
      target_compile_options(${target} PRIVATE -fno-sanitize-recover=undefined)
    endif()
    # Static libraries are not linked; the executables bring the sanitizers' run-time libraries.
    target_link_options(${target} PRIVATE -fsanitize=${sanitizers})
  endif()
endfunction()

# tensovia_add_library(<name> SOURCES <files...> [LIBS <targets...>])
# A static library. What it links is public, as its headers include theirs.
function(tensovia_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  tensovia_target_options(${name})
endfunction()

# tensovia_add_executable(<name> SOURCES <files...> [LIBS <targets...>] [EXCLUDE_FROM_ALL])
function(tensovia_add_executable name)
  cmake_parse_arguments(ARG "EXCLUDE_FROM_ALL" "" "SOURCES;LIBS" ${ARGN})
  if(ARG_EXCLUDE_FROM_ALL)
    add_executable(${name} EXCLUDE_FROM_ALL ${ARG_SOURCES})
  else()
    add_executable(${name} ${ARG_SOURCES})
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  tensovia_target_options(${name})
endfunction()

# tensovia_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# A test executable, run offscreen by CTest.
function(tensovia_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  tensovia_add_executable(${name} SOURCES ${ARG_SOURCES} LIBS ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8"
    LABELS "${ARG_LABELS}")
endfunction()

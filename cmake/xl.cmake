# xl_library(NAME DIR... [DEPS ...]): one static library from the sources of the given
# folders. Platform variants sit side by side: *_posix.cpp builds natively only, *_win.cpp
# for Windows only; a win32/ subfolder is Windows-only as a whole.
function(xl_library name)
  cmake_parse_arguments(XL "" "" "DIRS;DEPS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS XL_DIRS)
    file(GLOB found CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  # A *_main.cpp is a program's entry point, never part of a library.
  list(FILTER sources EXCLUDE REGEX "_main\\.cpp$")
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "(_win\\.cpp|/win32/[^/]*\\.cpp)$")
  endif()
  if(NOT sources)  # a folder not written yet still gives a library to link against
    set(placeholder "${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp")
    file(WRITE "${placeholder}" "namespace { [[maybe_unused]] int xl_empty_library; }\n")
    set(sources "${placeholder}")
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${XL_DEPS})
endfunction()

# The portable core and the in-memory dialog model, compiled with the flags a
# sanitizer build asks for, for a build that lives outside the main project
# because it needs another compiler (the fuzz targets need clang). Makes
# <prefix>_core (the core with its POSIX backends and the LZMA decoder) and
# <prefix>_model.
include("${CMAKE_CURRENT_LIST_DIR}/../../cmake/rooms.cmake")

function(add_sanitized_core prefix root lzmaDir flags)
  set(sources "")
  foreach(room ${SETUP_ROOMS})
    file(GLOB room_sources CONFIGURE_DEPENDS "${root}/src/${room}/*.cpp")
    list(APPEND sources ${room_sources})
  endforeach()
  list(FILTER sources EXCLUDE REGEX "_win32\\.cpp$")

  add_library(${prefix}_lzma STATIC "${lzmaDir}/LzmaDec.c")
  target_include_directories(${prefix}_lzma SYSTEM PUBLIC "${lzmaDir}")
  target_compile_options(${prefix}_lzma PRIVATE ${flags} -w)

  find_package(Threads REQUIRED)
  add_library(${prefix}_core STATIC ${sources})
  target_include_directories(${prefix}_core PUBLIC "${root}/src")
  target_compile_definitions(${prefix}_core PUBLIC SETUP_TEST_SEAMS)
  target_compile_options(${prefix}_core PRIVATE ${flags})
  target_link_libraries(${prefix}_core PUBLIC ${prefix}_lzma Threads::Threads)

  file(GLOB model_sources CONFIGURE_DEPENDS "${root}/src/model/*.cpp")
  add_library(${prefix}_model STATIC ${model_sources})
  target_compile_options(${prefix}_model PRIVATE ${flags})
  target_link_libraries(${prefix}_model PUBLIC ${prefix}_core)
endfunction()

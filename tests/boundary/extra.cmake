# The platform boundary holds: with the include path of a library outside the
# platform, each system library header stops the compile at its guard (the
# message proves the guard fired, not some other error).
set(probe_source ${CMAKE_CURRENT_LIST_DIR}/header_probe.cpp)
foreach(probe
    "scenario|SDL2/SDL.h" "scenario|jpeglib.h" "image|gif_lib.h" "scenario|cdio/cdio.h" "scenario|iconv.h"
    "display|libavcodec/avcodec.h" "display|fontconfig/fontconfig.h" "display|imgui/imgui.h"
    "display|freetype2/ft2build.h" "game|SDL.h" "sound|libswresample/swresample.h" "frame|png.h")
  string(REPLACE "|" ";" parts "${probe}")
  list(GET parts 0 library)
  list(GET parts 1 header)
  string(MAKE_C_IDENTIFIER "${library}_${header}" name)
  add_test(NAME boundary_rejects_${name}
    COMMAND ${CMAKE_CXX_COMPILER} -std=c++20 -fsyntax-only "-DPROBE_HEADER=<${header}>"
            "-I$<JOIN:$<TARGET_PROPERTY:lantern_${library},INCLUDE_DIRECTORIES>,;-I>" ${probe_source}
    COMMAND_EXPAND_LISTS)
  set_tests_properties(boundary_rejects_${name} PROPERTIES
    PASS_REGULAR_EXPRESSION "header guard: <${header}>")
endforeach()

# The formats stand alone: each fuzz target's source, with a small main in
# place of libFuzzer, links what fuzz/targets.cmake names for it and replays
# its seed corpus here under the sanitizers; ldd then proves that these
# programs and the command-line tools that read files (the assembler, the
# packer) need no SDL, FFmpeg, FreeType or libcdio.
include(${PROJECT_SOURCE_DIR}/fuzz/targets.cmake)
set(link_checked nsasm nmmpack)
foreach(src ${LANTERN_FUZZ_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  string(REGEX REPLACE "_fuzz$" "" corpus ${name})
  add_executable(${name}_replay ${src} ${CMAKE_CURRENT_LIST_DIR}/fuzz_replay_main.cpp)
  target_link_libraries(${name}_replay PRIVATE ${${name}_libs})
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # The targets are written for clang; gcc 12 at -O3 reports a false
    # -Wrestrict inside libstdc++'s string copy for one of them.
    target_compile_options(${name}_replay PRIVATE -Wno-restrict)
  endif()
  lantern_guard_headers(${name}_replay)
  add_test(NAME ${name}_replay COMMAND ${name}_replay ${PROJECT_SOURCE_DIR}/fuzz/corpus/${corpus})
  list(APPEND link_checked ${name}_replay)
endforeach()
foreach(program ${link_checked})
  add_test(NAME link_boundary_${program}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -P ${CMAKE_CURRENT_LIST_DIR}/check_links.cmake)
endforeach()

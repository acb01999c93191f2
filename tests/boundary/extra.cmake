# The platform boundary holds: with the include path of a library outside the
# platform, each system library header stops the compile at its guard (the
# message proves the guard fired, not some other error).
set(probe_source ${CMAKE_CURRENT_LIST_DIR}/header_probe.cpp)
foreach(probe
    "scenario|SDL2/SDL.h" "scenario|jpeglib.h" "scenario|cdio/cdio.h" "scenario|iconv.h"
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

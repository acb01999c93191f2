# cmake -DPROGRAM=<file> -P check_links.cmake: fails when the program needs a
# shared library of the platform layer's (SDL, FFmpeg, FreeType, fontconfig,
# libcdio, ImGui's stb, X11).
execute_process(COMMAND ldd ${PROGRAM} OUTPUT_VARIABLE needed RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ldd ${PROGRAM} failed")
endif()
string(REGEX MATCHALL "lib(SDL2|avcodec|avformat|avutil|swscale|swresample|freetype|fontconfig|cdio|stb|X11)[^ ]*"
       platform_libs "${needed}")
if(platform_libs)
  message(FATAL_ERROR "${PROGRAM} links the platform's libraries: ${platform_libs}")
endif()
message(STATUS "${PROGRAM}: no platform library")

# What each fuzz target links: the formats library of what it reads (the
# scenario targets the executor, which needs no platform either), never SDL,
# FFmpeg, FreeType or libcdio. Used by fuzz/ (the
# libFuzzer build) and tests/boundary/ (the same sources replayed over their
# corpora in the test build, and checked with ldd).
set(lzss_fuzz_libs lantern_frame_formats)
set(nmm_fuzz_libs lantern_frame_formats)
set(profile_fuzz_libs lantern_frame_formats)
set(bmp_fuzz_libs lantern_image_formats)
set(png_fuzz_libs lantern_image_formats)
set(jpeg_fuzz_libs lantern_image_formats)
set(gif_fuzz_libs lantern_image_formats)
set(ico_fuzz_libs lantern_image_formats)
set(bma_fuzz_libs lantern_image_formats)
set(mp3_stream_fuzz_libs lantern_sound_formats)
set(sound_wave_fuzz_libs lantern_sound_formats)
set(scenario_loader_fuzz_libs lantern_scenario)
set(scenario_state_fuzz_libs lantern_scenario)
set(vardef_map_fuzz_libs lantern_game_formats)
set(screen_files_fuzz_libs lantern_game_formats lantern_scenario_formats)
file(GLOB LANTERN_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_fuzz.cpp)
foreach(src ${LANTERN_FUZZ_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  if(NOT DEFINED ${name}_libs)
    message(FATAL_ERROR "fuzz/targets.cmake: name the formats library ${name} reads")
  endif()
endforeach()

# The display's window test once more in a real X server, when xvfb-run is
# there: the known back buffer must show its colours in a 16-bit (5-6-5)
# window on a 16-bit X screen and in a 32-bit window on a 24-bit one. (Every
# full-screen depth is presented too; without a window manager X does not
# resize the window, so those are read back only on the dummy driver.)
find_program(XVFB_RUN xvfb-run)
if(XVFB_RUN AND TARGET display_tests)
  foreach(depth 16 24)
    add_test(NAME display_xvfb_present_${depth}
      COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x${depth} -noreset" $<TARGET_FILE:display_tests>
              --gtest_filter=WindowFixture.*)
    set_tests_properties(display_xvfb_present_${depth} PROPERTIES
      # The X and GL client libraries keep allocations for the life of the
      # process; our own leaks are checked by the same test on the dummy driver.
      ENVIRONMENT "SDL_VIDEODRIVER=x11;SDL_AUDIODRIVER=dummy;ASAN_OPTIONS=detect_leaks=0"
      # xvfb-run -a can hand two servers started at once the same number.
      RESOURCE_LOCK xvfb TIMEOUT 120)
  endforeach()
endif()
# The same on the presenter that keeps the frame in a texture and draws the
# whole window each time, as on a machine whose GL draws on the GPU: named
# through SDL's own variable, so llvmpipe stands in for it here.
if(XVFB_RUN AND TARGET display_tests)
  add_test(NAME display_xvfb_present_24_texture
    COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24 -noreset" $<TARGET_FILE:display_tests>
            --gtest_filter=WindowFixture.*:-WindowFixture.small_changes_are_not_redrawn_through_a_gl_that_draws_on_the_cpu)
  set_tests_properties(display_xvfb_present_24_texture PROPERTIES
    ENVIRONMENT "SDL_VIDEODRIVER=x11;SDL_AUDIODRIVER=dummy;SDL_RENDER_DRIVER=opengl;ASAN_OPTIONS=detect_leaks=0"
    RESOURCE_LOCK xvfb TIMEOUT 120)
endif()

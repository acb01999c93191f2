# The boxes that come before the main window need a real X server: without a
# display they answer at once and show nothing.
find_program(XVFB_RUN xvfb-run)
if(XVFB_RUN AND TARGET platform_tests)
  add_test(NAME message_box_xvfb
    COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24 -noreset" $<TARGET_FILE:platform_tests>
            --gtest_filter=MessageBox*)
  # -noreset: each test closes its window, and a server that resets when its
  # last client leaves refuses the next test's window during the reset.
  # The X11 client libraries keep allocations past exit (see game_xvfb_window).
  set_tests_properties(message_box_xvfb PROPERTIES
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0;SDL_VIDEODRIVER=x11;SDL_AUDIODRIVER=dummy"
    # xvfb-run -a can hand two servers started at once the same number: one
    # X test at a time.
    RESOURCE_LOCK xvfb TIMEOUT 300)
endif()

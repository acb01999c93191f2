# The game tests need the demo picture generator (the demo test makes the
# demo's pictures with it), and run once more in a real X server when
# xvfb-run is there: the frame loop then presents into a real window.
if(TARGET game_tests AND TARGET demopictures)
  add_dependencies(game_tests demopictures)
endif()
find_program(XVFB_RUN xvfb-run)
if(XVFB_RUN AND TARGET game_tests)
  add_test(NAME game_xvfb_window
    COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24 -noreset" $<TARGET_FILE:game_tests>
            --gtest_filter=Game.*:GameDialogs.*:DemoPictures.*)
  # The X11 and GL client libraries keep allocations past exit that the leak
  # checker reports through driver modules already unloaded; the headless
  # run of the same tests keeps leak checking for the game's own code.
  set_tests_properties(game_xvfb_window PROPERTIES
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0;SDL_VIDEODRIVER=x11;SDL_AUDIODRIVER=dummy;LANTERN_TEST_DATA=${CMAKE_CURRENT_LIST_DIR}/../data;LANTERN_BUILD_DIR=${PROJECT_BINARY_DIR}"
    RESOURCE_LOCK xvfb TIMEOUT 300)
endif()
# The menus and window commands in a real X window too: window placement,
# the ImGui overlay, and full screen on an X server without a window manager
# (xvfb-run starts none), which refuses it for real (LANTERN_BARE_X).
if(XVFB_RUN AND TARGET game_tests)
  add_test(NAME window_commands_xvfb
    COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24 -noreset" $<TARGET_FILE:game_tests>
            --gtest_filter=WindowCommands.*)
  set_tests_properties(window_commands_xvfb PROPERTIES
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0;SDL_VIDEODRIVER=x11;SDL_AUDIODRIVER=dummy;LANTERN_BARE_X=1"
    RESOURCE_LOCK xvfb TIMEOUT 300)
endif()

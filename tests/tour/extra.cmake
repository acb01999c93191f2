# The tour: the built demo game played from its start menu to quitting, with
# real SDL events, headless and once more in a real X window. It is a program
# of its own because it needs the demo folder that scripts/build-demo makes
# (a test fixture), which the other game tests do not.
if(TARGET lantern_all AND TARGET demobuild AND TARGET demopictures)
  add_executable(tour_tests ${CMAKE_CURRENT_LIST_DIR}/demo_tour_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ending_test.cpp)
  target_link_libraries(tour_tests PRIVATE lantern_all lantern_test_main GTest::gtest)
  target_include_directories(tour_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/.. ${CMAKE_CURRENT_LIST_DIR}/../game)
  # The ending test runs the program itself.
  add_dependencies(tour_tests demobuild demopictures nsasm lantern)

  set(tour_demo ${PROJECT_BINARY_DIR}/tour-demo)
  set(tour_shots ${PROJECT_BINARY_DIR}/tour)
  add_test(NAME tour_demo_folder
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/build-demo ${PROJECT_BINARY_DIR} ${tour_demo})
  set_tests_properties(tour_demo_folder PROPERTIES FIXTURES_SETUP tour_demo TIMEOUT 300)

  add_test(NAME tour COMMAND tour_tests)
  set_tests_properties(tour PROPERTIES FIXTURES_REQUIRED tour_demo TIMEOUT 600
    ENVIRONMENT "LANTERN_DEMO_DIR=${tour_demo};LANTERN_TOUR_SHOTS=${tour_shots}/headless")

  find_program(XVFB_RUN xvfb-run)
  if(XVFB_RUN)
    # Leak checking is off here only: the X and GL client libraries keep
    # allocations past exit (the headless run checks the game's own).
    add_test(NAME tour_xvfb
      COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24 -noreset" $<TARGET_FILE:tour_tests>)
    set_tests_properties(tour_xvfb PROPERTIES FIXTURES_REQUIRED tour_demo RESOURCE_LOCK xvfb TIMEOUT 600
      ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0;SDL_VIDEODRIVER=x11;SDL_AUDIODRIVER=dummy;LANTERN_DEMO_DIR=${tour_demo};LANTERN_TOUR_SHOTS=${tour_shots}")
  endif()
endif()

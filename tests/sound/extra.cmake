# The audio reader plug-in the reader-factory tests load with dlopen. It is
# built from the reader interface header alone (its base methods are inline).
add_library(sound_test_plugin MODULE ${CMAKE_CURRENT_LIST_DIR}/plugin/ToneReaderPlugin.cpp)
target_include_directories(sound_test_plugin PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_compile_options(sound_test_plugin PRIVATE -Wall -Wextra)
if(LANTERN_SANITIZE)
  target_compile_options(sound_test_plugin PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer)
endif()
if(LANTERN_TSAN)
  target_compile_options(sound_test_plugin PRIVATE -fsanitize=thread)
endif()
if(TARGET sound_tests)
  add_dependencies(sound_tests sound_test_plugin)
  target_compile_definitions(sound_tests PRIVATE
    SOUND_TEST_PLUGIN_PATH="$<TARGET_FILE:sound_test_plugin>")
endif()

# Image plug-ins for the picture decoder's tests, built as
# <build>/tests/image_plugins/spi/if<ext>.spi beside nothing else, so a test
# can make that folder the start directory.
if(TARGET image_tests)
  set(image_plugin_dir ${PROJECT_BINARY_DIR}/tests/image_plugins/spi)
  foreach(plugin xyz incomplete)
    add_library(image_test_plugin_${plugin} MODULE ${CMAKE_CURRENT_LIST_DIR}/plugin/${plugin}_plugin.c)
    set_target_properties(image_test_plugin_${plugin} PROPERTIES
      PREFIX "" SUFFIX ".spi" OUTPUT_NAME if${plugin}
      LIBRARY_OUTPUT_DIRECTORY ${image_plugin_dir})
    add_dependencies(image_tests image_test_plugin_${plugin})
  endforeach()
endif()

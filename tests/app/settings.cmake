# The settings classes over the file-backed store.
thalwise_add_test(NAME RegistryVariablesTest
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/RegistryVariablesTest.cpp
  LIBS thalwise_settings thalwise_platform)

# Tests of core/platform.
corvanta_test(test_platform_texts
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PlatformTextsTest.cpp
  LIBS QuaylithLogic)

# Sources of core/utilities, relative to core/.
list(APPEND LOGIC_SOURCES utilities/ExternalUtilityRef.cpp)

# Sources of platform/linux, relative to this folder.
list(APPEND LINUX_SOURCES
)

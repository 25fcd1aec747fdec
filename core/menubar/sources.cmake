# Sources of core/menubar, relative to core/.

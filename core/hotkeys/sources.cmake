# Sources of core/hotkeys, relative to core/.

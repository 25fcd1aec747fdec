# Sources of core/pickers, relative to core/.

# Sources of core/settings, relative to core/.

# Sources of core/utilities, relative to core/.

# Sources of core/selection, relative to core/.

# Sources of core/routing, relative to core/.

// Stands in for a layer that has no sources yet, so that its library target exists.

// Images: filled in by the labels unit.

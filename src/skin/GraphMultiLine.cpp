// Multi-line rich text: filled in by the labels unit.

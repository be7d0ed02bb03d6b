# The Windows release archive: filled in below.

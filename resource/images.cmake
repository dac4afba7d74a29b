# Filled in by the picture generator: sets TD_IMAGE_NAMES (file names under images/) and
# TD_IMAGE_OUTPUTS (the generated files), and copies the popup pictures into png/.
set(TD_IMAGE_NAMES)
set(TD_IMAGE_OUTPUTS)

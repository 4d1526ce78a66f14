# The LV2 plug-in's tests.

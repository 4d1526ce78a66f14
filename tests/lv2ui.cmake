# The LV2 editor's tests.

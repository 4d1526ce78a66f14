# The LV2 plug-in's editor (KT3_ui.so in the LV2 bundle).

# The Windows suites, run under Wine: the in-process suites above, and the built module loaded
# as a Windows host loads it.

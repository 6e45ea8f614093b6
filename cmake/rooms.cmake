# The folders under src/ whose every .cpp (less the other platform's backends)
# makes the portable core, from the bottom layer up.
set(SETUP_ROOMS common state package system ui installer uninstall)

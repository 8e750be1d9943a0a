#pragma once

// Leaves out the messages of Qt that say nothing to a user and would only worry one: the
// offscreen platform's notices about window size hints (the tool and the tests run the
// stations' forms there), and the notice that the session gives no runtime directory
// (XDG_RUNTIME_DIR), which Qt then makes itself. Any other message goes through as
// before. Install it before the application object, which gives the second one.
void filtremessagesqt();

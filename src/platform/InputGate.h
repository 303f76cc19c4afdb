#pragma once

// Drops the user input that arrived while the user-interface thread was blocked (clicks and
// keys are queued, not lost, and would otherwise act once the thread is free again).
void discardPendingInput();

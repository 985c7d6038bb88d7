#pragma once
// The two windows of the selected part inside the main window: the parameters panel and the
// part-state window. Both are made once, hidden, at start-up and live as long as the main window.

class TWorkshopForm;

// Creates both windows under the main window's tool bar (the panel at the left edge, the state
// window beside it), binds them to the component base, and lets the main window's buttons and
// a double click on a part show them.
void CreatePartWindows(TWorkshopForm* form);

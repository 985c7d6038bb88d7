#pragma once
// The one seam the small windows around the workbench share: showing a window modally, which tests
// answer themselves so that nothing waits for a person.

#include <functional>

class QDialog;

// Shows `dialog` modally and returns its result (QDialog::Accepted or Rejected).
int ExecModal(QDialog* dialog);
// Tests get the dialog, shown or not as they like, instead of a modal loop; nullptr restores it.
void SetModalHandler(std::function<int(QDialog*)> handler);

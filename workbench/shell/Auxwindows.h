#pragma once
// What the small windows around the workbench lend the main window, and the one seam they share:
// showing a window modally, which tests answer themselves so that nothing waits for a person.

#include <functional>

class QDialog;
class TWorkshopForm;

// Shows `dialog` modally and returns its result (QDialog::Accepted or Rejected).
int ExecModal(QDialog* dialog);
// Tests get the dialog, shown or not as they like, instead of a modal loop; nullptr restores it.
void SetModalHandler(std::function<int(QDialog*)> handler);

// Call once the main window exists: its options button opens the language dialog, and the
// loading of the part pictures (TIron::ExecuteStartups) shows the progress window over it.
void InstallAuxiliaryWindows(TWorkshopForm* form);

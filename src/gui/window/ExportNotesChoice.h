#pragma once
// The "导出留言和备注" choice on the export button: a check in the button's
// context menu, stored at once, so that the next export adds the buyer's
// message and the seller's memo at the end of the sheet.

class QPushButton;
class Settings;

void AddExportNotesChoice(QPushButton& exportButton, Settings& settings);

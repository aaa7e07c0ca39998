#pragma once
// "导出快递导入表…" in the export button's context menu: the choices dialog,
// the save dialog offering "快递导入-<template>-<date>.xlsx", the overwrite
// question, then the sheet from the session's parcels to ship.

class CommandSession;
class QPushButton;
class QWidget;

void AddCourierSheetAction(QPushButton& exportButton, CommandSession& session, QWidget* parent);

#pragma once

class MainWindow;
class TemplatesPage;

// Builds the template lists' editor into the Types page and connects it to the window.
TemplatesPage *installTemplatesPage(MainWindow *window);

// The pages of the settings stack and the level tree of the main form, made once by
// InitGraphics after the key link exists. Each block builds one page into its containers of
// the form and connects it to the session; the page classes hold the behaviour.
#include "app/MainWindow.h"

#include "app/cGlobalData.h"
#include "protocol/KeySession.h"

void MainWindow::buildPages()
{
    // --- records page (record editor, records folder operations)

    // --- templates page

    // --- menu levels (Parameters page) and the level tree of the main form
}

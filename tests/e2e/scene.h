/* A scenario around one running clock: started on its first face, and counted and
   stopped with the keys a user would press. */
#ifndef VELMOR_E2E_SCENE_H
#define VELMOR_E2E_SCENE_H

#include "support.h"
#include "face.h"
#include <memory>

class ClockScenario : public Scenario {
protected:
    /* Starts the program (the built one unless path names another) and waits for the
       clock face. */
    void StartClock(const std::string& path = ProgramPath());
    /* Enter starts a count that runs. */
    void CountUp();
    /* The key stops the count: the face freezes on a count. */
    void ExpectKeyStops(WORD key, Face* stopped);
    /* A folder for this scenario, removed once the program has ended. */
    Folder& MakeFolder(const std::string& path);

    /* Declared before app, so they go only after the program has ended. */
    std::vector<std::unique_ptr<Folder>> folders;
    Velmor app;
    HWND wnd = NULL;
};

#endif

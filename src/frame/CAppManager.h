#pragma once
// CAppManager: the registry of applications keyed by thread. Each record
// holds the application running on that thread and its main object. All
// operations take the registry's lock and may be called from any thread.
class CApp;
class CMainObject;

class CAppManager {
public:
    // The application of the calling thread, or null.
    static CApp* GetApp();
    // Records `app` for the calling thread (replacing an older record).
    static void Register(CApp* app);
    // Forgets the calling thread's record when it is `app`'s.
    static void Unregister(CApp* app);
    // The calling thread's main object, or null.
    static CMainObject* GetMainObject();
    // Sets or clears (null) the calling thread's main object; nothing without a record.
    static void SetMainObject(CMainObject* object);
    // Joins every registered application except `keep` (the main application
    // does this at its end, so no application thread outlives it).
    static void StopAllExcept(CApp* keep);
};

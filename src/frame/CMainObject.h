#pragma once
// CMainObject: base of a thread's main object (the game object). Its
// constructor registers it with the current thread's application record and
// its destructor removes it.
class CMainObject {
public:
    CMainObject();
    virtual ~CMainObject();
    CMainObject(const CMainObject&) = delete;
    CMainObject& operator=(const CMainObject&) = delete;

    virtual void Run() = 0;
};

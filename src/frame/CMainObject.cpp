#include "frame/CMainObject.h"

#include "frame/CAppManager.h"

CMainObject::CMainObject() { CAppManager::SetMainObject(this); }

CMainObject::~CMainObject()
{
    if (CAppManager::GetMainObject() == this) {
        CAppManager::SetMainObject(nullptr);
    }
}

#pragma once
// The screen root: the dialog at the top of a screen. It holds the screen's UI template, builds
// itself and everything below it from one root record of that template (InitRoot), aligns the
// whole tree once it exists and keeps the back-action stack: the reverse of every action that
// opened something with its own back button, which an "actionBack" click runs.
//
// XRoot reads and owns its template. XCachedTemplateRoot, the root of every game screen, takes its
// template from the game-wide cache instead (ui/TemplateCache.h), so a template file is parsed
// once and shared by all screens until the game flushes the cache; it also finds records and
// actions in the other cached templates.
//
// Depends on: ui (dialog, template reader); the cache through IElementHost. Main thread only.

#include "core/CommonString.h"
#include "core/QuorvanArray.h"
#include "ui/Dialog.h"

class XRoot : public XDialog {
public:
    // A root under parent (the game object for a screen) with no template or record yet.
    explicit XRoot(CXElement* parent);
    // Drops the back actions and the tree, then deletes the template it owns.
    ~XRoot() override;

    // Only the children run: a root has no fades of its own.
    void RunProcess() override;
    // The dialog's initialisation (size from the back buffer where the record gives none; a root
    // is always modal), then the background alignment; 0 without a template or record.
    int OnInitWidget() override;
    bool IsRoot() override { return true; }
    // Pushes the reverse of an action that opened a widget holding a back button bound in the
    // root's record; nothing for other actions.
    void StoreBackAction(TAction* action, CQuorvanObjPtrArray<WidgetContext*>& savedContexts) override;
    // Pops, runs and deletes the last back action; nothing when none is kept.
    void DoBackAction() override;

    // Builds the screen from the record rootName (the first root record when null) of a template
    // file, deleting an earlier tree and its back actions first: 1, or 0 when the file cannot be
    // read, the record is missing or the tree cannot be built. The same file again reuses the
    // template held.
    virtual int InitRoot(const CommonString& file, const char* rootName);

    // Pops and deletes every back action.
    void ClearRoot();
    // Pops and deletes the last back action without running it.
    void PopLastBackAction();
    // Whether one of the root record's bindings binds actionName to a widget id found in child or
    // below it.
    bool ActionCanBeRaisedByChlid(const CommonString& actionName, XWidget* child);
    // Moves the background widget by the root record's horizontal and vertical background
    // alignment.
    void InitBackground();
    int GetBackActionCount() const { return m_BackActions.count; }
    // The last back action kept (not owned by the caller), or null.
    TAction* GetLastBackAction() const;
    const CommonString& GetTemplateFileName() const { return m_TemplateFile; }

    // The open screen: the first child of the game element that is a root widget, or null.
    static XRoot* FindRoot(CXElement* game);

protected:
    CQuorvanStack<TAction*> m_BackActions;  // owned
    CommonString m_TemplateFile;
};

class XCachedTemplateRoot : public XRoot {
public:
    explicit XCachedTemplateRoot(CXElement* parent);
    // Forgets the shared template, which stays in the cache.
    ~XCachedTemplateRoot() override;

    using XDialog::DoAction;
    // The cached template of the file (read and cached on first use), then XRoot::InitRoot.
    int InitRoot(const CommonString& file, const char* rootName) override;
    // The root's own template first, then every other cached template in cache order.
    TWidget* GetTWidgetPtr(const CommonString& name) override;
    // The action of that name from the cached template of the file, run so that the root keeps
    // its back action, then 605 to the root: the result, or 0 without the template or action.
    int DoAction(const CommonString& file, const CommonString& name) override;
    // The record of that name (plain, without quotes) of the cached template of the file, shown
    // sharing the record; null when there is no such template or record or the widget fails.
    XWidget* DisplayWidget(const char* file, const char* name, int x, int y, int alignX, int alignY, int alignXInParent,
                           int alignYInParent, bool inEffect, FIXED_FLOAT inDelay, FIXED_FLOAT inDuration,
                           bool outEffect, FIXED_FLOAT outDelay, FIXED_FLOAT outDuration) override;

    // The template cached for file (same length, same bytes; the last entry first), or null.
    TTemplate* FindCachedTemplate(const char* file);
    // Reads the file's template and appends it to the cache: the template, or null when it cannot
    // be read or kept.
    TTemplate* CacheTemplate(const char* file);

private:
    // FindCachedTemplate, else CacheTemplate.
    TTemplate* CachedTemplateOf(const char* file);
};

// What a screen reader finds in the window.

#include "form1_fixture.h"

#include <QAccessible>

#include <functional>
#include <set>

namespace skybrant::ui {
namespace {

void walk(QAccessibleInterface* node, const std::function<void(QAccessibleInterface*)>& visit)
{
    visit(node);
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface* child = node->child(i)) {
            walk(child, visit);
        }
    }
}

TEST_F(Form1Test, EveryBoxHasANameAndDescriptionForAssistiveTools)
{
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(form.get());
    ASSERT_NE(root, nullptr);
    std::set<QString> named;
    int boxes = 0;
    walk(root, [&](QAccessibleInterface* a) {
        QObject* o = a->object();
        if (qobject_cast<QLineEdit*>(o) == nullptr && qobject_cast<QComboBox*>(o) == nullptr) {
            return;
        }
        // An editable combo's own edit field speaks for the combo.
        if (qobject_cast<QComboBox*>(o->parent()) != nullptr) {
            return;
        }
        const QString name = a->text(QAccessible::Name);
        EXPECT_FALSE(name.isEmpty()) << o->objectName().toStdString();
        EXPECT_FALSE(a->text(QAccessible::Description).isEmpty()) << o->objectName().toStdString();
        ++boxes;
        // On Linux Qt gives a combo box its text as the name, as AT-SPI
        // expects; its own name stands on the widget and in the description.
        if (auto* combo = qobject_cast<QComboBox*>(o)) {
            EXPECT_FALSE(combo->accessibleName().isEmpty()) << o->objectName().toStdString();
            return;
        }
        EXPECT_TRUE(named.insert(name).second) << "two boxes are called " << name.toStdString();
    });
    EXPECT_EQ(boxes, 19);  // 12 entry boxes, 4 hemispheres, 3 results
    EXPECT_EQ(named.size(), 15U);  // each entry and result box its own name
    EXPECT_EQ(edit("txtLAD1")->accessibleName(), "Own station latitude degrees");
    EXPECT_EQ(edit("txtBA")->accessibleName(), "Beam heading from my station, degrees");
    EXPECT_EQ(combo("cmbEW2")->accessibleName(), "Other station longitude hemisphere");

    // The captions are tied to their boxes.
    const std::pair<const char*, const char*> buddies[] = {{"Label2", "txtLAD1"}, {"Label5", "txtLOD1"},
        {"Label6", "txtLAD2"}, {"Label8", "txtLOD2"}, {"Label10", "txtBA"}, {"Label12", "txtAB"},
        {"Label14", "txtAB3"}};
    for (const auto& [label, box] : buddies) {
        SCOPED_TRACE(label);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(edit(box));
        bool labelled = false;
        for (const auto& [other, relation] : a->relations(QAccessible::Label)) {
            labelled = labelled || other->object()->objectName() == QLatin1String(label);
        }
        EXPECT_TRUE(labelled) << box;
    }
}

}  // namespace
}  // namespace skybrant::ui

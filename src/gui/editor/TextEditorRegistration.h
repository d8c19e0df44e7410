#pragma once

class IShell;

// Makes text documents open in the editor in `shell`: files, new documents ("ZEPH1", "ZEPH2"...,
// counted per shell) and the recipe file at a recipe.
void RegisterTextEditor(IShell& shell);

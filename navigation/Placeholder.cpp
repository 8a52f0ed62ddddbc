// Filled by the tree and icon library modules.

package com.kestro.runtime.internal;

import java.io.File;

/**
 * Removes a file or a directory tree without ever following a link: a symbolic link or a
 * Windows junction inside the tree is removed itself, never what it points to. Where the
 * runtime cannot tell a directory from a link to one (see {@link FileLinks}), a directory
 * is only removed when it is empty.
 */
final class TreeRemoval {
    private TreeRemoval() {
    }

    /**
     * Removes {@code path} and, when it is a real directory, everything below it. Goes on
     * past entries that cannot be removed (a file still open on Windows, say), removing
     * what it can. Returns true when nothing of that name is left.
     */
    static boolean remove(File path) {
        return remove(path, FileLinks.SYSTEM);
    }

    static boolean remove(File path, FileLinks links) {
        removeEntry(path, links.kindOf(path), links);
        return links.kindOf(path) == FileLinks.Kind.MISSING;
    }

    private static void removeEntry(File path, FileLinks.Kind kind, FileLinks links) {
        switch (kind) {
            case DIRECTORY:
                File[] entries = path.listFiles();
                if (entries != null) {
                    for (File entry : entries) {
                        removeEntry(entry, links.kindOf(entry), links);
                    }
                }
                path.delete();
                break;
            case ENTRY:
            case DIRECTORY_OR_LINK:
                // A link goes itself; a directory only when empty.
                path.delete();
                break;
            default:
                break;
        }
    }
}

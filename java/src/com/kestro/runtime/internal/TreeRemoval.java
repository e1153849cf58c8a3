package com.kestro.runtime.internal;

import java.io.IOException;
import java.nio.file.FileVisitResult;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.nio.file.SimpleFileVisitor;
import java.nio.file.attribute.BasicFileAttributes;

/**
 * Removes a file or a directory tree without ever following a link: a symbolic link or a
 * Windows junction inside the tree is removed itself, never what it points to.
 */
final class TreeRemoval extends SimpleFileVisitor<Path> {
    private final Path root;

    private TreeRemoval(Path root) {
        this.root = root;
    }

    /**
     * Removes {@code path} and, when it is a real directory, everything below it. Goes on
     * past entries that cannot be removed (a file still open on Windows, say), removing
     * what it can. Returns true when nothing of that name is left.
     */
    static boolean remove(Path path) {
        try {
            BasicFileAttributes attrs = Files.readAttributes(path, BasicFileAttributes.class,
                    LinkOption.NOFOLLOW_LINKS);
            if (isRealDirectory(attrs)) {
                // Without FOLLOW_LINKS the walk does not enter symbolic links.
                Files.walkFileTree(path, new TreeRemoval(path));
            } else {
                deleteQuietly(path);
            }
        } catch (IOException e) {
            // Gone already, or unreadable: the answer below says which.
        }
        return Files.notExists(path, LinkOption.NOFOLLOW_LINKS);
    }

    /** A directory that is neither a symbolic link nor a junction or other reparse point. */
    static boolean isRealDirectory(BasicFileAttributes attrs) {
        // On Windows a junction reads as a directory that is also "other".
        return attrs.isDirectory() && !attrs.isOther() && !attrs.isSymbolicLink();
    }

    @Override
    public FileVisitResult preVisitDirectory(Path dir, BasicFileAttributes attrs) {
        if (!dir.equals(root) && !isRealDirectory(attrs)) {
            deleteQuietly(dir);
            return FileVisitResult.SKIP_SUBTREE;
        }
        return FileVisitResult.CONTINUE;
    }

    @Override
    public FileVisitResult visitFile(Path file, BasicFileAttributes attrs) {
        deleteQuietly(file);
        return FileVisitResult.CONTINUE;
    }

    @Override
    public FileVisitResult visitFileFailed(Path file, IOException e) {
        return FileVisitResult.CONTINUE;
    }

    @Override
    public FileVisitResult postVisitDirectory(Path dir, IOException e) {
        deleteQuietly(dir);
        return FileVisitResult.CONTINUE;
    }

    private static void deleteQuietly(Path path) {
        try {
            Files.deleteIfExists(path);
        } catch (IOException e) {
            // Left in place; remove() reports whether anything remains.
        }
    }
}

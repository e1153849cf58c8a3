package com.kestro.runtime.internal;

import java.io.File;
import java.lang.reflect.Array;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;

/**
 * Tells what a path is without following a link at its end. Only java.nio.file can tell a
 * directory from a symbolic link or a Windows junction to one; it is reached by reflection,
 * so that the library still loads on a runtime without it. There, a directory may be a
 * link, and whoever removes things must not go into it.
 */
final class FileLinks {
    enum Kind {
        MISSING,
        /** A file, a link, or anything else that is removed as one entry. */
        ENTRY,
        /** A directory that is certainly not a link. */
        DIRECTORY,
        /** A directory that may be a link (no java.nio.file to tell). */
        DIRECTORY_OR_LINK,
        /** Cannot be read: left alone. */
        UNREADABLE,
    }

    /** The runtime's own answer where it has java.nio.file, else the cautious one. */
    static final FileLinks SYSTEM = new FileLinks(true);
    /** As on a runtime without java.nio.file. */
    static final FileLinks WITHOUT_NIO = new FileLinks(false);

    private final Nio nio;

    private FileLinks(boolean useNio) {
        this.nio = useNio ? Nio.load() : null;
    }

    Kind kindOf(File path) {
        if (nio != null) {
            return nio.kindOf(path);
        }
        if (!path.exists()) {
            return Kind.MISSING;
        }
        return path.isDirectory() ? Kind.DIRECTORY_OR_LINK : Kind.ENTRY;
    }

    /** Files.readAttributes(path.toPath(), BasicFileAttributes.class, NOFOLLOW_LINKS), reflected. */
    private static final class Nio {
        private final Method toPath;
        private final Method readAttributes;
        private final Class<?> basicAttributes;
        private final Object noFollow;
        private final Method isDirectory;
        private final Method isSymbolicLink;
        private final Method isOther;
        private final Class<?> noSuchFile;

        private Nio() throws Exception {
            toPath = File.class.getMethod("toPath");
            Class<?> linkOption = Class.forName("java.nio.file.LinkOption");
            basicAttributes = Class.forName("java.nio.file.attribute.BasicFileAttributes");
            readAttributes = Class.forName("java.nio.file.Files").getMethod("readAttributes",
                    Class.forName("java.nio.file.Path"), Class.class, Array.newInstance(linkOption, 0).getClass());
            noFollow = Array.newInstance(linkOption, 1);
            Array.set(noFollow, 0, linkOption.getField("NOFOLLOW_LINKS").get(null));
            isDirectory = basicAttributes.getMethod("isDirectory");
            isSymbolicLink = basicAttributes.getMethod("isSymbolicLink");
            isOther = basicAttributes.getMethod("isOther");
            noSuchFile = Class.forName("java.nio.file.NoSuchFileException");
        }

        static Nio load() {
            try {
                return new Nio();
            } catch (Exception | LinkageError e) {
                return null;
            }
        }

        Kind kindOf(File path) {
            Object attributes;
            try {
                attributes = readAttributes.invoke(null, toPath.invoke(path), basicAttributes, noFollow);
            } catch (InvocationTargetException e) {
                // Anything but its absence (an I/O error, a name that is no path at all)
                // leaves the path alone.
                return noSuchFile.isInstance(e.getCause()) ? Kind.MISSING : Kind.UNREADABLE;
            } catch (Exception e) {
                return Kind.UNREADABLE;
            }
            // On Windows a junction reads as a directory that is also "other".
            boolean plainDirectory = answer(isDirectory, attributes, false) && !answer(isOther, attributes, true)
                    && !answer(isSymbolicLink, attributes, true);
            return plainDirectory ? Kind.DIRECTORY : Kind.ENTRY;
        }

        private static boolean answer(Method test, Object attributes, boolean onFailure) {
            try {
                return (Boolean) test.invoke(attributes);
            } catch (Exception e) {
                return onFailure;
            }
        }
    }
}

package com.kestro.runtime.internal;

import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;

/** Finds and calls the application's main method. */
final class MainMethod {
    private MainMethod() {
    }

    /**
     * The {@code public static void main(String[])} of the named class, loaded (not yet
     * initialised) through the thread's context class loader, else the system class
     * loader. Throws {@link LaunchFailure} naming the class when either is missing.
     */
    static Method find(String className) {
        String name = className.replace('/', '.');
        ClassLoader loader = Thread.currentThread().getContextClassLoader();
        if (loader == null) {
            loader = ClassLoader.getSystemClassLoader();
        }
        Class<?> mainClass;
        Method main;
        try {
            mainClass = Class.forName(name, false, loader);
        } catch (ClassNotFoundException e) {
            throw new LaunchFailure("Cannot start the application: main class \"" + name + "\" not found");
        } catch (LinkageError e) {
            throw cannotLoad(name, e);
        }
        try {
            main = mainClass.getMethod("main", String[].class);
        } catch (NoSuchMethodException e) {
            main = null;
        } catch (LinkageError e) {
            throw cannotLoad(name, e);
        }
        if (main == null || !Modifier.isStatic(main.getModifiers()) || main.getReturnType() != void.class) {
            throw new LaunchFailure("Cannot start the application: class \"" + name
                    + "\" has no method public static void main(String[])");
        }
        // A main class need not be public; the VM's own launchers accept that too.
        try {
            main.setAccessible(true);
        } catch (RuntimeException e) {
            // Left to the access check of invoke.
        }
        return main;
    }

    /**
     * Calls {@code main} with {@code args}. What main throws is rethrown as it is, not
     * wrapped, so that the launcher describes the application's own exception.
     */
    static void invoke(Method main, String[] args) {
        try {
            main.invoke(null, (Object) args);
        } catch (InvocationTargetException e) {
            throw MainMethod.<RuntimeException>rethrow(e.getCause() != null ? e.getCause() : e);
        } catch (IllegalAccessException e) {
            throw new LaunchFailure("Cannot start the application: " + e.getMessage());
        }
    }

    private static LaunchFailure cannotLoad(String name, LinkageError e) {
        return new LaunchFailure("Cannot start the application: main class \"" + name
                + "\" cannot be loaded: " + e);
    }

    // Throws any exception, checked or not, without declaring it.
    @SuppressWarnings("unchecked")
    private static <T extends Throwable> RuntimeException rethrow(Throwable t) throws T {
        throw (T) t;
    }
}

package com.example.hello;

/** Prints system properties as "NAME = VALUE", one a line. */
final class Report {
    private Report() {
    }

    static void properties(String... names) {
        for (String name : names) {
            System.out.println(name + " = " + System.getProperty(name, "(not set)"));
        }
    }
}
